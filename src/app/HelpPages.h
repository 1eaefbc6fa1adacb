#pragma once

#include "HelpIndex.h"

#include <QString>
#include <vector>

namespace kqvdr {

// Where the help pages live among the compiled-in resources.
inline const QString helpRoot = QStringLiteral(":/help/");
inline const QString helpContentsPage = QStringLiteral("index.html");

// Reads every help page from the resources, as title and plain text for the search.
std::vector<HelpPage> loadHelpPages();

} // namespace kqvdr
