#pragma once
// Modules: parts of a program in shared libraries of their own, opened only
// when they are wanted, so that the program does not load what they bring
// (the PDF writer and Qt) on every start.
//
// The module NAME is the file NAME.so, looked for beside the program (the
// build folder), then in the module folder of the tree the program is
// installed in (<prefix>/lib/skarvel from <prefix>/bin), then in the
// installed module folder the program was built for.

#include <string>
#include <string_view>
#include <vector>

namespace skarvel::app {

// The places the module is looked for, in search order.
std::vector<std::string> ModuleCandidates(std::string_view name);

// Opens the module (once; later calls give the same handle); it stays
// open until the program ends. Throws std::runtime_error naming the module,
// with the loader's reason, when no place holds one that opens.
void* OpenModule(std::string_view name);

// The address of `symbol` in the module, opened as OpenModule does. Throws
// std::runtime_error when the module or the symbol is missing.
void* ModuleSymbol(std::string_view name, const char* symbol);

} // namespace skarvel::app
