# Warnings, character sets and sanitizers shared by every target of the tree.
if(MSVC)
    # The sources are UTF-8; every narrow literal in the binary is Shift-JIS (code page 932).
    # (/utf-8 would set the execution charset too, and conflicts with .932.)
    add_compile_options(/W4 /WX /permissive- /source-charset:utf-8 /execution-charset:.932)
else()
    add_compile_options(-Wall -Wextra -Werror)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # The sources are UTF-8; every narrow literal in the binary is Shift-JIS (code page 932).
        add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932)
    else()
        # clang only knows UTF-8 as execution charset: its builds (the fuzz targets) keep UTF-8
        # literals, which no fuzz target compares.
        message(STATUS "clang: Japanese literals stay UTF-8 in this build")
    endif()
endif()

if(SW_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

if(SW_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32 AND NOT MSVC)
    # One exe that needs no libstdc++, libgcc or winpthread DLL.
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
elseif(WIN32)
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# A shipped exe carries no symbols or debug sections (the static C++ runtime alone brings about 400 KB of them);
# Debug and RelWithDebInfo builds keep theirs for the debugger. An MSVC release exe holds no debug information
# anyway: that stays in the .pdb beside it, which is not shipped.
function(sw_ship_without_debug_info target)
    if(MINGW)
        target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
    endif()
endfunction()
