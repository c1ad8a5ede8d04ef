#pragma once
// The framework's own prompts in the string table (parse errors, the
// question before closing a changed document, ...). Registered on first
// use; a program that registers its own texts for these ids first keeps
// them.

namespace kestrun {
void EnsureFrameworkStrings();
}
