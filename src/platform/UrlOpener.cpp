// Kestrova — identity photo maker.
#include "UrlOpener.h"

#include <QDesktopServices>

void DesktopUrlOpener::open(const QUrl& url)
{
    // Whether a browser came up is not examined: there is nothing the user
    // could do about it from here.
    (void)QDesktopServices::openUrl(url);
}
