#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;

namespace kqvdr {

// The row of a settings dialog: the default button that accepts (named `acceptName`, so tests
// find it) and Cancel (named "cancel"), wired to the dialog's accept() and reject().
QDialogButtonBox* acceptCancelButtons(QDialog& dialog, const QString& acceptText,
                                      const QString& acceptName);

} // namespace kqvdr
