#pragma once
// The program's resources, registered in code: the string table (titles,
// document strings, messages, command prompts), the main window's menu, its
// tool bars and the dialog layouts of this folder. Each call registers
// once per process.

namespace kestrun {

void RegisterAppStrings();
void RegisterAppResources();

} // namespace kestrun
