# How the test programs become CTest tests, natively and in the Windows build,
# which runs them under Wine (CMAKE_CROSSCOMPILING_EMULATOR).

# The printing tests print on the tests' own CUPS queue (scripts/setup-printer.sh),
# never on the machine's default printer, which they leave alone: libcups, and
# Qt's printing through it, take the process's default printer from LPDEST (then
# PRINTER) before lpoptions and the server's default. For a test's ENVIRONMENT;
# one variable, as gtest_discover_tests keeps only the first of a list's values.
set(KESTRIN_TEST_PRINTER "LPDEST=KestrinPDF")

# Tests that cannot run under Wine, left out of the Windows run by name:
set(KESTRIN_NOT_UNDER_WINE
  # print for real through this machine's CUPS queue
  "CupsPdfPrinting.*"
  # read the printed PDF back with poppler's Unix tools (pdfinfo, pdftotext)
  "PdfOutput.*"
  # point libcups at a missing CUPS server
  "NoDefaultPrinter.*"
  # mount a small tmpfs (Linux, as root) to fill the disk
  "SmallDisk.*"
  "SmallDiskRun.*"
)

# Qt's offscreen platform on Windows takes its fonts from one folder of .ttf
# and .otf files (QT_QPA_FONTDIR) and knows a face by the names in its file.
# The Windows tests get what a Chinese Windows has: DejaVu for the Latin faces,
# and SimSun and SimHei as TrueType faces, made from WenQuanYi Zen Hei by
# packaging/windows/make-standin-fonts.py (the face Wine's font replacements make them
# for the real program); none of the OpenType CJK faces.
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(KESTRIN_TEST_FONTS ${CMAKE_BINARY_DIR}/test-fonts)
  set(standins ${CMAKE_BINARY_DIR}/standin-fonts)
  if(NOT EXISTS ${standins}/SimSun.ttf OR NOT EXISTS ${standins}/SimHei.ttf)
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/packaging/windows/make-standin-fonts.py ${standins}
                    RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "the SimSun and SimHei stand-ins could not be made (fonts-wqy-zenhei, python3-fonttools)")
    endif()
  endif()
  file(REMOVE_RECURSE ${KESTRIN_TEST_FONTS})
  file(MAKE_DIRECTORY ${KESTRIN_TEST_FONTS})
  foreach(font DejaVuSans DejaVuSans-Bold DejaVuSansMono DejaVuSerif)
    file(CREATE_LINK /usr/share/fonts/truetype/dejavu/${font}.ttf ${KESTRIN_TEST_FONTS}/${font}.ttf SYMBOLIC)
  endforeach()
  foreach(font SimSun SimHei)
    file(CREATE_LINK ${standins}/${font}.ttf ${KESTRIN_TEST_FONTS}/${font}.ttf SYMBOLIC)
  endforeach()
endif()

# The Windows build's tests run its programs under Wine. The program is 32-bit:
# where this machine cannot run 32-bit x86 programs (a kernel without them),
# Wine cannot run it either, and the packaging step turns this off; the test
# programs are still built, and the packages' checks that need no Wine run.
option(KESTRIN_WINE_TESTS "Run the Windows build's programs under Wine in its tests" ON)
if(CMAKE_CROSSCOMPILING AND WIN32 AND NOT KESTRIN_WINE_TESTS)
  set(KESTRIN_RUN_PROGRAMS OFF)
else()
  set(KESTRIN_RUN_PROGRAMS ON)
endif()

# kestrin_gtests(target [EXCLUDE pattern...] [PREFIX p] [PROPERTIES ...])
function(kestrin_gtests target)
  if(NOT KESTRIN_RUN_PROGRAMS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "PREFIX" "EXCLUDE;PROPERTIES" ${ARGN})
  set(excluded ${ARG_EXCLUDE})
  if(CMAKE_CROSSCOMPILING AND WIN32)
    list(APPEND excluded ${KESTRIN_NOT_UNDER_WINE})
  endif()
  set(options)
  if(excluded)
    list(JOIN excluded ":" filter)
    list(APPEND options TEST_FILTER "-${filter}")
  endif()
  if(ARG_PREFIX)
    list(APPEND options TEST_PREFIX "${ARG_PREFIX}")
  endif()
  if(ARG_PROPERTIES)
    list(APPEND options PROPERTIES ${ARG_PROPERTIES})
  endif()
  # Under Wine the programs are listed when the tests run, not while building.
  if(CMAKE_CROSSCOMPILING)
    list(APPEND options DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
  else()
    list(APPEND options DISCOVERY_TIMEOUT 60)
  endif()
  gtest_discover_tests(${target} ${options})
endfunction()

# A static Qt links only the default platform plugin by itself; test programs
# also need the offscreen one.
function(kestrin_offscreen target)
  get_target_property(qt_type Qt${QT_VERSION_MAJOR}::Core TYPE)
  if(qt_type STREQUAL "STATIC_LIBRARY")
    qt_import_plugins(${target} INCLUDE Qt${QT_VERSION_MAJOR}::QOffscreenIntegrationPlugin)
  endif()
endfunction()
