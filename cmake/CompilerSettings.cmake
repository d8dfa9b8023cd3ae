# Shared compiler settings: every target of the project links this one
# INTERFACE target instead of repeating flags.
add_library(orvandel_settings INTERFACE)
target_compile_features(orvandel_settings INTERFACE cxx_std_20)
target_compile_definitions(orvandel_settings INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(orvandel_settings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
endif()

# The one place of the sanitizer flags: the asan preset's build (ORVANDEL_SANITIZE)
# and the fuzz targets with the code they reach (ORVANDEL_FUZZ) use them.
if(ORVANDEL_SANITIZE OR ORVANDEL_FUZZ)
    target_compile_options(orvandel_settings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(orvandel_settings INTERFACE -fsanitize=address,undefined)
endif()
