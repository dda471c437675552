# Compile options shared by every target of the project.
add_library(quavex_flags INTERFACE)
target_compile_options(quavex_flags INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(quavex_flags INTERFACE QT_NO_KEYWORDS)
