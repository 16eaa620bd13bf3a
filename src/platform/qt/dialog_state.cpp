#include "qt/dialog_state.h"

#include "qt/system_menu.h"

namespace morvek::qt {

DialogState::DialogState(const DialogTemplate& source) : dialogTemplate(source) {}

DialogState::~DialogState() = default;

}  // namespace morvek::qt
