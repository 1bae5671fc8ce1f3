#include "rotator.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace skybrant::cli {

namespace {

// rotctld's replies are a few bytes; anything longer is not the protocol.
constexpr std::size_t maxReplyLine = 256;
constexpr const char* expectedForm = "expected HOST:PORT, such as 127.0.0.1:4533 or [::1]:4533";

// Quotes bytes from the user or the network so that control characters and
// odd bytes cannot garble the terminal, and a flood cannot fill the screen.
std::string quoted(std::string_view bytes)
{
    constexpr std::size_t shown = 60;
    std::string out = "\"";
    for (const char c : bytes.substr(0, shown)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte >= 0x7f) {
            std::array<char, 5> hex{};
            std::snprintf(hex.data(), hex.size(), "\\x%02x", byte);
            out += hex.data();
        } else {
            out += c;
        }
    }
    return out + (bytes.size() > shown ? "\"..." : "\"");
}

// "2 s", "0.3 s", "1.25 s": whole milliseconds, no locale in the way.
std::string secondsText(std::chrono::milliseconds timeout)
{
    const auto ms = std::max<std::chrono::milliseconds::rep>(timeout.count(), 0);
    std::string text = std::to_string(ms / 1000);
    if (const auto fraction = ms % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text + " s";
}

std::string hamlibCodeText(int code)
{
    static constexpr const char* meanings[] = {"Invalid parameter", "Invalid configuration", "Memory shortage",
        "Feature not implemented", "Communication timed out", "IO error", "Internal Hamlib error", "Protocol error",
        "Command rejected by the rig", "Command performed, but arg truncated", "Function not available",
        "VFO not targetable", "Error talking on the bus", "Collision on the bus",
        "NULL RIG handle or invalid pointer parameter", "Invalid VFO", "Argument out of domain of func"};
    std::string text = "RPRT " + std::to_string(code);
    // Compared this way round so that INT_MIN cannot overflow.
    if (code < 0 && code >= -static_cast<int>(std::size(meanings))) {
        text += std::string(" (") + meanings[-code - 1] + ")";
    }
    return text;
}

// The whole line must be the number; from_chars ignores the locale.
template <typename Number>
std::optional<Number> wholeNumber(std::string_view text)
{
    Number value{};
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> rprtCode(std::string_view line)
{
    constexpr std::string_view prefix = "RPRT ";
    if (line.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    return wholeNumber<int>(line.substr(prefix.size()));
}

// The addresses a host stands for: a literal as it is, a name through the
// system resolver (Qt's resolver wants a QCoreApplication, which callers need not have).
std::vector<QHostAddress> lookUp(const std::string& host, std::string& error)
{
    if (QHostAddress literal; literal.setAddress(QString::fromStdString(host))) {
        return {literal};
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int status = getaddrinfo(host.c_str(), nullptr, &hints, &found); status != 0) {
        error = status == EAI_NONAME ? "unknown host" : std::string("name lookup failed: ") + gai_strerror(status);
        return {};
    }
    std::vector<QHostAddress> addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        const QHostAddress address(entry->ai_addr);
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
            addresses.push_back(address);
        }
    }
    freeaddrinfo(found);
    return addresses;
}

// One connection to the daemon, every wait bounded by the same deadline.
// Each step returns false after filling in outcome with what went wrong.
class Exchange {
public:
    Exchange(const RotatorAddress& address, std::chrono::milliseconds timeout, RotatorOutcome& outcome)
        : address(address), where(rotatorAddressText(address)), timeout(timeout),
          deadline(std::max<std::chrono::milliseconds::rep>(timeout.count(), 0)), outcome(outcome)
    {
    }

    bool connect()
    {
        std::string why;
        const auto addresses = lookUp(address.host, why);
        // A system proxy would carry the commands somewhere else.
        socket.setProxy(QNetworkProxy::NoProxy);
        for (const auto& candidate : addresses) {
            if (deadline.hasExpired()) {
                return timedOut();
            }
            socket.connectToHost(candidate, address.port);
            if (socket.waitForConnected(remaining())) {
                return true;
            }
            if (deadline.hasExpired() || socket.error() == QAbstractSocket::SocketTimeoutError) {
                return timedOut();
            }
            why = socket.error() == QAbstractSocket::ConnectionRefusedError
                ? "connection refused (is rotctld running there?)"
                : socket.errorString().toLower().toStdString();
            socket.abort();
        }
        return fail(RotatorStatus::CannotConnect, "cannot connect to the rotator at " + where + ": " + why);
    }

    bool send(const std::string& line)
    {
        if (socket.state() != QAbstractSocket::ConnectedState) {
            return true;  // hung up after its last reply; reading says so
        }
        socket.write(line.data(), static_cast<qint64>(line.size()));
        while (socket.bytesToWrite() > 0) {
            if (deadline.hasExpired()) {
                return timedOut();
            }
            if (!socket.waitForBytesWritten(remaining())) {
                // A hang-up may have come with a last reply; reading reports it.
                if (!deadline.hasExpired() && socket.error() == QAbstractSocket::RemoteHostClosedError) {
                    return true;
                }
                return lost("while sending " + quoted(line));
            }
        }
        return true;
    }

    // Reads one reply line without its "\n" (or "\r\n"); before says what a
    // hang-up with nothing pending interrupted.
    bool readLine(std::string& line, const std::string& before)
    {
        for (;;) {
            const QByteArray arrived = socket.readAll();
            pending.append(arrived.constData(), static_cast<std::size_t>(arrived.size()));
            const auto end = pending.find('\n');
            if (std::min(end, pending.size()) > maxReplyLine) {
                return fail(RotatorStatus::RotatorError,
                    "the rotator at " + where + " sent a reply line longer than " + std::to_string(maxReplyLine) +
                        " bytes: " + quoted(pending));
            }
            if (end != std::string::npos) {
                line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                return true;
            }
            if (deadline.hasExpired()) {
                return timedOut();
            }
            if (socket.state() != QAbstractSocket::ConnectedState || !socket.waitForReadyRead(remaining())) {
                if (socket.bytesAvailable() == 0) {
                    return lost(pending.empty() ? before : "in the middle of a reply " + quoted(pending));
                }
            }
        }
    }

    bool fail(RotatorStatus status, std::string message)
    {
        outcome.status = status;
        outcome.message = std::move(message);
        return false;
    }

    const std::string& place() const { return where; }

private:
    int remaining() const { return static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)); }

    bool timedOut()
    {
        return fail(
            RotatorStatus::TimedOut, "the rotator at " + where + " did not answer within " + secondsText(timeout));
    }

    // The socket gave up: a deadline, a hang-up, or a network error.
    bool lost(const std::string& when)
    {
        if (deadline.hasExpired() || socket.error() == QAbstractSocket::SocketTimeoutError) {
            return timedOut();
        }
        if (socket.error() == QAbstractSocket::RemoteHostClosedError ||
            socket.state() != QAbstractSocket::ConnectedState) {
            return fail(RotatorStatus::RotatorError, "the rotator at " + where + " closed the connection " + when);
        }
        return fail(RotatorStatus::RotatorError,
            "lost the rotator at " + where + " " + when + ": " + socket.errorString().toLower().toStdString());
    }

    const RotatorAddress& address;
    std::string where;
    std::chrono::milliseconds timeout;
    QDeadlineTimer deadline;
    RotatorOutcome& outcome;
    QTcpSocket socket;
    std::string pending;
};

// Splits "[IPv6]:PORT" or "HOST:PORT"; returns what is wrong with the host
// part, or nothing.
std::optional<std::string> splitAddress(std::string_view text, std::string_view& host, std::string_view& port)
{
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) {
            return "has no ']' after the IPv6 address";
        }
        host = text.substr(1, close - 1);
        if (text.substr(close + 1, 1) != ":") {
            return "needs \":PORT\" right after ']'";
        }
        port = text.substr(close + 2);
        if (host.empty()) {
            return "has no host between the brackets";
        }
        const QHostAddress ipv6(QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size())));
        if (ipv6.protocol() != QAbstractSocket::IPv6Protocol) {
            return "has " + quoted(host) + " in brackets, which is not an IPv6 address";
        }
        return std::nullopt;
    }
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return "has no port";
    }
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
    if (host.find(':') != std::string_view::npos) {
        return "looks like an IPv6 address, which must be in brackets";
    }
    if (host.empty()) {
        return "has no host before the ':'";
    }
    const auto hostChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_';
    };
    if (!std::all_of(host.begin(), host.end(), hostChar)) {
        return "has a host with characters a host name cannot hold";
    }
    return std::nullopt;
}

}  // namespace

std::string rotatorAddressText(const RotatorAddress& address)
{
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

bool parseRotatorAddress(std::string_view text, RotatorAddress& address, std::string& error)
{
    if (text.empty()) {
        error = std::string("the rotator address is empty; ") + expectedForm;
        return false;
    }
    std::string_view host;
    std::string_view port;
    auto wrong = splitAddress(text, host, port);
    std::optional<unsigned long> number;
    if (!wrong && port.empty()) {
        wrong = "has no port after the ':'";
    } else if (!wrong) {
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        number = std::all_of(port.begin(), port.end(), digit) ? wholeNumber<unsigned long>(port) : std::nullopt;
        if (!number || *number < 1 || *number > 65535) {
            wrong = "has port " + quoted(port) + ", which is not a whole number from 1 to 65535";
        }
    }
    if (wrong) {
        error = "the rotator address " + quoted(text) + " " + *wrong + "; " + expectedForm;
        return false;
    }
    address.host = std::string(host);
    address.port = static_cast<std::uint16_t>(*number);
    return true;
}

RotatorOutcome turnRotator(const RotatorAddress& address, double azimuthDegrees, std::chrono::milliseconds timeout)
{
    RotatorOutcome outcome;
    Exchange exchange(address, timeout, outcome);
    if (!std::isfinite(azimuthDegrees)) {
        exchange.fail(RotatorStatus::RotatorError,
            "cannot turn the rotator at " + exchange.place() + ": the azimuth is not a finite number");
        return outcome;
    }
    // Large enough for any finite double in fixed notation.
    std::array<char, 400> digits{};
    const auto written =
        std::to_chars(digits.data(), digits.data() + digits.size(), azimuthDegrees, std::chars_format::fixed, 2);
    const std::string azimuth(digits.data(), written.ptr);
    std::string shown = azimuth;  // "288.00" reads as "288" in messages
    shown.erase(shown.find_last_not_of('0') + 1);
    if (shown.back() == '.') {
        shown.pop_back();
    }

    std::string line;
    if (!exchange.connect() || !exchange.send("P " + azimuth + " 0.00\n") ||
        !exchange.readLine(line, "before answering the turn")) {
        return outcome;
    }
    const auto code = rprtCode(line);
    if (!code) {
        exchange.fail(RotatorStatus::RotatorError,
            "the rotator at " + exchange.place() + " answered the turn with " + quoted(line) + " instead of RPRT");
        return outcome;
    }
    if (*code != 0) {
        exchange.fail(RotatorStatus::RotatorError,
            "the rotator at " + exchange.place() + " refused azimuth " + shown + ": " + hamlibCodeText(*code));
        return outcome;
    }

    if (!exchange.send("p\n")) {
        return outcome;
    }
    std::array<double*, 2> readings{&outcome.reportedAzimuth, &outcome.reportedElevation};
    const std::array<const char*, 2> names{"azimuth", "elevation"};
    const std::array<const char*, 2> before{"before reporting its position", "before reporting its elevation"};
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (!exchange.readLine(line, before.at(i))) {
            return outcome;
        }
        const auto value = wholeNumber<double>(line);
        if (i == 0 && !value) {
            if (const auto refusal = rprtCode(line); refusal && *refusal != 0) {
                exchange.fail(RotatorStatus::RotatorError,
                    "the rotator at " + exchange.place() +
                        " turned but could not report its position: " + hamlibCodeText(*refusal));
                return outcome;
            }
        }
        if (!value || !std::isfinite(*value)) {
            exchange.fail(RotatorStatus::RotatorError,
                "the rotator at " + exchange.place() + " reported " + quoted(line) + " as its " + names.at(i) +
                    ", which is not a number");
            return outcome;
        }
        *readings.at(i) = *value;
    }
    outcome.status = RotatorStatus::Turned;
    return outcome;
}

}  // namespace skybrant::cli
