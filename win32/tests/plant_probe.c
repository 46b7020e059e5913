/* Loads a DLL by name with the default search, to show a planted one is found. */
#include <windows.h>

int main(int argc, char** argv) { return argc > 1 && LoadLibraryA(argv[1]) ? 0 : 1; }
