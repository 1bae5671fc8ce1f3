// Callsign lookup: any text either is refused as no callsign, has no
// position (/MM, /AM) or no entity with a sentence saying so that a
// terminal can show, or finds an entity of the file with zones and a
// position in range; capitals and small letters find the same.

#include "core/callsign.h"
#include "core/country_files.h"
#include "fuzz_text.h"

#include <string>
#include <string_view>

namespace {

// Every override form, exact calls with and without '/', a '*' entity.
constexpr std::string_view kCountryFile = R"(England:  14: 27: EU: 52.77:   1.47:   0.0: G:
    G,M,2E,=G4XYZ<51.50/0.13>,=GB0ABC/P,=G4ABC/MM;
Germany:  14: 28: EU: 51.00: -10.00:  -1.0: DL:
    DA,DL,Y2,=DL0XX(15)[29]{AF}~-3.5~;
USA:      05: 08: NA: 37.60:  91.87:   5.0: K:
    K,N,W,AA,K0(4)[7],KL7{OC},W6<34.00/118.00>~8~;
Hawaii:   31: 61: OC: 21.12: 157.48:  10.0: KH6:
    KH6,AH6,=AA2TT;
Fiji:     32: 56: OC: -17.78: -177.92: -12.0: 3D2:
    3D2;
Shetland: 14: 27: EU: 60.50:  1.50:    0.0: *GM/s:
    =GB2XX,GM/S;
)";

const skybrant::CountryFiles& countryFiles()
{
    static const skybrant::CountryFiles files = [] {
        skybrant::CountryFiles read;
        std::string error;
        FUZZ_CHECK(read.read(kCountryFile, "fuzz.dat", error));
        return read;
    }();
    return files;
}

void checkResult(const skybrant::CallsignInfo& info, const std::string& problem)
{
    using skybrant::CallsignStatus;
    if (info.status != CallsignStatus::Found) {
        FUZZ_CHECK(!problem.empty() && skybrant::fuzz::terminalSafe(problem));
        FUZZ_CHECK(info.entity.empty());
        return;
    }
    FUZZ_CHECK(problem.empty());
    FUZZ_CHECK(!info.entity.empty() && !info.primaryPrefix.empty());
    FUZZ_CHECK(info.cqZone >= 1 && info.cqZone <= 40 && info.ituZone >= 1 && info.ituZone <= 90);
    FUZZ_CHECK(info.position.latDegrees >= -90 && info.position.latDegrees <= 90);
    FUZZ_CHECK(info.position.lonDegrees >= -180 && info.position.lonDegrees <= 180);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace skybrant;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CallsignInfo info = lookupCallsign(countryFiles(), text);
    checkResult(info, callsignProblem(info, text));
    std::string lower(text);
    for (char& c : lower) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const CallsignInfo same = lookupCallsign(countryFiles(), lower);
    FUZZ_CHECK(same.status == info.status && same.entity == info.entity && same.cqZone == info.cqZone);
    return 0;
}
