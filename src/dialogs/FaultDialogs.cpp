#include "FaultDialogs.h"

#include "CCsumErrDlg.h"
#include "CEvapErrDlg.h"
#include "CExhErrDlg.h"
#include "CFanErrDlg.h"
#include "CGasErrDlg.h"
#include "CLampErrDlg.h"
#include "CNebErrDlg.h"
#include "COtErrDlg.h"
#include "CPdtErrDlg.h"
#include "CPicErrDlg.h"
#include "CTcErrDlg.h"

namespace kqvdr {
namespace {

std::size_t slot(FaultDialogId id) {
    return static_cast<std::size_t>(id);
}

} // namespace

FaultDialogs::FaultDialogs(QWidget* parent) {
    dialogs_[slot(FaultDialogId::Gas)] = new CGasErrDlg(parent);
    dialogs_[slot(FaultDialogId::Nebuliser)] = new CNebErrDlg(parent);
    dialogs_[slot(FaultDialogId::Evaporator)] = new CEvapErrDlg(parent);
    dialogs_[slot(FaultDialogId::Exhaust)] = new CExhErrDlg(parent);
    dialogs_[slot(FaultDialogId::Vapour)] = new CVapErrDlg(parent);
    dialogs_[slot(FaultDialogId::Lamp)] = new CLampErrDlg(parent);
    dialogs_[slot(FaultDialogId::Fan)] = new CFanErrDlg(parent);
    dialogs_[slot(FaultDialogId::Checksum)] = new CCsumErrDlg(parent);
    dialogs_[slot(FaultDialogId::Pdt)] = new CPdtErrDlg(parent);
    dialogs_[slot(FaultDialogId::OverTemperature)] = new COtErrDlg(parent);
    dialogs_[slot(FaultDialogId::Pic)] = new CPicErrDlg(parent);
    dialogs_[slot(FaultDialogId::TransferLine)] = new CTcErrDlg(parent);
}

FaultDialogs::~FaultDialogs() {
    // A parent destroyed first has already deleted its children; the QPointers then hold null.
    for (const QPointer<CGeneralErrDlg>& dialog : dialogs_) {
        delete dialog.data();
    }
}

CGeneralErrDlg* FaultDialogs::dialog(FaultDialogId id) const {
    const std::size_t at = slot(id);
    return at < dialogs_.size() ? dialogs_[at].data() : nullptr;
}

CGeneralErrDlg* FaultDialogs::dialog(int index) const {
    const FaultKind* kind = faultKind(index);
    return kind == nullptr ? nullptr : dialog(kind->dialog);
}

CVapErrDlg* FaultDialogs::vapour() const {
    return static_cast<CVapErrDlg*>(dialog(FaultDialogId::Vapour));
}

bool FaultDialogs::run(FaultDialogId id, bool deviceError) {
    CGeneralErrDlg* shown = dialog(id);
    // A second exec() of a dialog already in its modal loop would return at once and leave the
    // first loop confused.
    if (shown == nullptr || shown->isVisible()) {
        return false;
    }
    shown->showing = true;
    shown->cleared = false;
    if (id == FaultDialogId::Vapour) {
        vapour()->deviceError = deviceError;
    }
    shown->exec();
    return shown->cleared;
}

bool FaultDialogs::open(int index) {
    const FaultKind* kind = faultKind(index);
    return kind != nullptr && run(kind->dialog, kind->deviceError);
}

void FaultDialogs::reset(FaultDialogId id) {
    CGeneralErrDlg* shown = dialog(id);
    if (shown == nullptr) {
        return;
    }
    shown->showing = false;
    shown->cleared = false;
    if (id == FaultDialogId::Vapour) {
        vapour()->deviceError = false;
    }
}

void FaultDialogs::reset(int index) {
    if (const FaultKind* kind = faultKind(index)) {
        reset(kind->dialog);
    }
}

} // namespace kqvdr
