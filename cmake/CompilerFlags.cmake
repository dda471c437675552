# Compile options shared by every target of the project.
add_library(quavex_flags INTERFACE)
target_compile_options(quavex_flags INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(quavex_flags INTERFACE QT_NO_KEYWORDS)

# AddressSanitizer and UndefinedBehaviorSanitizer on every target, stopping at the first report.
option(QUAVEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUAVEX_SANITIZE)
    set(QUAVEX_SANITIZER_OPTIONS
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_compile_options(quavex_flags INTERFACE ${QUAVEX_SANITIZER_OPTIONS})
    target_link_options(quavex_flags INTERFACE ${QUAVEX_SANITIZER_OPTIONS})
endif()
