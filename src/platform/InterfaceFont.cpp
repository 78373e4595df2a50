// Kestrova — identity photo maker.
#include "InterfaceFont.h"

#include <QStringList>

namespace {

// Its Chinese and Latin glyphs are drawn to go together, its Latin ones
// narrow enough that the tip's mix of both fits the line it was given; it
// is an outline font, so captions stay sharp at any scale factor.
constexpr char kFamily[] = "WenQuanYi Micro Hei";
// 11 pixels at 96 dpi. The captions were laid out for a 12-pixel font whose
// Latin letters are exactly half as wide as its Chinese ones; at 12 pixels
// this font's are wider, so the size comes down a step. In points, so the
// text grows with the screen's dpi just as the twips layout does.
constexpr qreal kPointSize = 8.25;
constexpr char kSymbolFamily[] = "DejaVu Sans";

} // namespace

QFont interfaceFont()
{
    QFont font(QString::fromLatin1(kFamily));
    font.setPointSizeF(kPointSize);
    return font;
}

QFont symbolFont()
{
    QFont font = interfaceFont();
    font.setFamilies(QStringList{QString::fromLatin1(kSymbolFamily), QString::fromLatin1(kFamily)});
    return font;
}
