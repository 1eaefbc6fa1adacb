#pragma once

#include "TestVerdicts.h"

#include <QWidget>
#include <string>
#include <vector>

class QListWidget;

namespace kqvdr {

// One details list: an explanation, its column headings (under a group heading when given),
// the rows' lines with tab stops in a fixed-pitch font, and the verdict banner.
class CResultListPage : public QWidget {
    Q_OBJECT

public:
    enum Control : int { List = 1029 };

    struct Heading {
        QString text;
        int column; // where its field starts in the lines, tabs being eight columns
    };
    struct Content {
        QString explanation;
        QString groupHeading; // may be empty
        std::vector<Heading> headings;
        std::vector<std::string> lines;
        Verdict verdict = Verdict::NotTested;
    };

    explicit CResultListPage(const Content& content, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};

} // namespace kqvdr
