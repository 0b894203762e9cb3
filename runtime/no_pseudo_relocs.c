// The 32-bit deliverables' relocator, in the place of MinGW-w64's (pseudo-reloc.o with
// pesect.o), which Debian builds for the Pentium Pro. They link with --disable-auto-import
// (cmake/KorvelTargets.cmake): every datum they take from a DLL is declared dllimport, so
// the linker writes no runtime pseudo-relocations and the start-up has nothing to patch.
void _pei386_runtime_relocator(void)
{
}
