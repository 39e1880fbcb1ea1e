# The release package: a zip with stampwright.exe, stampwright-cli.exe and the readme, and nothing else. The OS
# HID doubles, the simulator and the test drivers serve the Wine test bed only and must never ship.
#
#   cmake --build --preset windows --target package   ->   build/windows/Stampwright-<version>-win64.zip
#
# Included from the top CMakeLists.txt for Windows builds only.

# Notepad reads the readme as UTF-8 by its byte order mark; CRLF line ends keep older Notepads happy too.
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/packaging/README.txt
               @ONLY NEWLINE_STYLE CRLF)

# One component, and the package made of it alone: an install rule that another target may add later cannot
# slip into the zip.
install(TARGETS stampwright RUNTIME DESTINATION . COMPONENT release)
# The command-line companion ships beside the panel (when its header-only libraries were there to build it).
if(TARGET stampwright-cli)
    install(TARGETS stampwright-cli RUNTIME DESTINATION . COMPONENT release)
endif()
install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION . COMPONENT release)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Stampwright)
set(CPACK_PACKAGE_VENDOR Stampwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Stampwright-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL release)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)

# The shipped exe is lean: no debug information, and a size that a slip (a stripped symbol table coming back, a
# heavy library pulled in) shows at once. Today about 340 KB: the posix flavour of mingw-w64 that the companion's
# HTTP server needs links its threads runtime into every exe (about 25 KB of it).
set(SW_RELEASE_EXE_MAX_BYTES 358400)  # 350 KB

if(BUILD_TESTING AND NOT SW_FUZZ)
    find_program(SW_UNZIP unzip)
    if(SW_UNZIP)
        add_test(NAME package.holds_only_the_panel_and_its_readme
                 COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/check-package.sh ${CMAKE_BINARY_DIR}
                         ${CMAKE_BINARY_DIR}/Stampwright-${PROJECT_VERSION}-win64.zip $<TARGET_FILE:stampwright>
                         $<TARGET_FILE:stampwright-cli> ${SW_RELEASE_EXE_MAX_BYTES})
        set_tests_properties(package.holds_only_the_panel_and_its_readme PROPERTIES LABELS package TIMEOUT 300)
    else()
        message(STATUS "package: unzip not found: the package test is not registered")
    endif()
endif()
