#pragma once

class QUrl;

namespace skybrant::ui {

// Opens an address with the user's default handler for it.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // The outcome is the desktop's business: nothing is reported.
    virtual void open(const QUrl& url) = 0;
};

// Through QDesktopServices (xdg-open and the desktop portal on Linux).
class DesktopUrlOpener final : public UrlOpener {
public:
    void open(const QUrl& url) override;
};

}  // namespace skybrant::ui
