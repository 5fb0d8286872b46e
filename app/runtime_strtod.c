/* Jansson reads JSON numbers through __mingw_strtod, the C99 runtime's
   correctly rounded strtod, which brings 14 KiB of gdtoa code into the
   installer program. The installer reads no real numbers from its documents:
   a real only has to parse, so the system C runtime's strtod serves. Its
   overflow, end pointer and errno behave as the C standard says; jansson
   passes it text in the current locale's decimal format.
   No header is included: <stdlib.h> would route strtod back to the C99
   runtime. */
__declspec(dllimport) double __cdecl strtod(const char* text, char** end);

double __cdecl __mingw_strtod(const char* text, char** end) { return strtod(text, end); }
