#include "HelpPages.h"

#include "AppResources.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

namespace kqvdr {

std::vector<HelpPage> loadHelpPages() {
    initAppResources();
    std::vector<HelpPage> pages;
    const QStringList files =
        QDir(helpRoot).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        QFile source(helpRoot + file);
        if (!source.open(QIODevice::ReadOnly)) {
            continue;
        }
        QTextDocument document;
        document.setHtml(QString::fromUtf8(source.readAll()));
        pages.push_back({file.toStdString(),
                         document.metaInformation(QTextDocument::DocumentTitle).toStdString(),
                         document.toPlainText().toStdString()});
    }
    return pages;
}

} // namespace kqvdr
