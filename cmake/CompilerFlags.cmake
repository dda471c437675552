# Compile options shared by every target of the project.
add_library(quavex_flags INTERFACE)
# C++ only: the Windows version resource is compiled by windres, which takes none of them.
target_compile_options(quavex_flags INTERFACE "$<$<COMPILE_LANGUAGE:CXX>:-Wall;-Wextra;-Werror>")
target_compile_definitions(quavex_flags INTERFACE QT_NO_KEYWORDS)
if(WIN32)
    # 64-bit file sizes in the CRT's status record; Win32 without the min and max macros that
    # would hide std::min and std::max.
    target_compile_definitions(quavex_flags INTERFACE _FILE_OFFSET_BITS=64 UNICODE _UNICODE
        WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

# AddressSanitizer and UndefinedBehaviorSanitizer on every target, stopping at the first report.
option(QUAVEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUAVEX_SANITIZE)
    set(QUAVEX_SANITIZER_OPTIONS
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_compile_options(quavex_flags INTERFACE ${QUAVEX_SANITIZER_OPTIONS})
    target_link_options(quavex_flags INTERFACE ${QUAVEX_SANITIZER_OPTIONS})
endif()
