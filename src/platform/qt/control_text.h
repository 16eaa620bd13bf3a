// Window texts as CP932 bytes, lossless: a window remembers the bytes it was
// last given and returns them while its shown text has not changed (decoding
// and encoding again would not give every byte string back). Setting the text
// it shows costs nothing; a string of the same append-lineage that is longer
// adds only its tail to the widget.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <string_view>

#include "qt/window_registry.h"

namespace morvek::qt {

// Sets the text. lineage is the string's append-lineage, null for a plain
// C string.
void SetWindowBytes(WindowRecord& record, std::string_view bytes, const std::shared_ptr<CString::Lineage>& lineage);
// The text, exactly as last set while the user has not edited it; after an
// edit, the shown text encoded (line breaks of a multi-line edit as CR LF).
std::string WindowBytes(WindowRecord& record);
std::size_t WindowTextLength(WindowRecord& record);
// The user has edited the text of an edit control.
void NoteUserEdit(WindowRecord& record);
// The text as the widget shows it.
QString ShownText(const WindowRecord& record);

}  // namespace morvek::qt
