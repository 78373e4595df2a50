// Kestrova — identity photo maker.
#pragma once

#include <QUrl>

/// Opens a web address in the user's browser.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QUrl& url) = 0;
};

class DesktopUrlOpener final : public UrlOpener
{
public:
    void open(const QUrl& url) override;
};
