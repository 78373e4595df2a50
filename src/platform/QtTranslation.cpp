// Kestrova — identity photo maker.
#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// Every text of the interface is Simplified Chinese, so Qt's are too, even
// where the system's locale would have asked for another language.
constexpr char kQtTranslation[] = "qtbase_zh_CN";

} // namespace

bool installQtTranslation(QCoreApplication& app)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QString::fromLatin1(kQtTranslation),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    // Qt reads from it for as long as the application lives.
    translator.release()->setParent(&app);
    return true;
}
