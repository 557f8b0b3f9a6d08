cmake_minimum_required(VERSION 3.25)
# Reads a DLL's import and export tables with objdump and fails unless it imports only
# Windows system DLLs and exports both VSTPluginMain and main.
#   cmake -DOBJDUMP=... -DDLL=... -P CheckDllTables.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${DLL}")
endif()

# What every Windows installation has; runtime DLLs of the compiler (libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll) and third-party ones (zlib1.dll, libpng) are not.
set(system_dlls kernel32.dll user32.dll gdi32.dll gdiplus.dll ole32.dll oleaut32.dll shell32.dll
                advapi32.dll comctl32.dll comdlg32.dll msvcrt.dll ucrtbase.dll msimg32.dll uuid.dll
                shlwapi.dll winmm.dll version.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "no import table found in ${DLL}")
endif()
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: " "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST system_dlls AND NOT lower MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${DLL} imports ${name}, which is not a Windows system DLL")
  endif()
  message(STATUS "imports ${name}")
endforeach()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([^\n]*\\[ *[0-9]+\\][^\n]*\n)+)" table "${dump}")
set(exports "${CMAKE_MATCH_1}")
foreach(wanted VSTPluginMain main)
  if(NOT exports MATCHES "\\] ${wanted}\n")
    message(FATAL_ERROR "${DLL} does not export ${wanted}")
  endif()
endforeach()
message(STATUS "exports:\n${exports}")
