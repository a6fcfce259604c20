# SPDX-License-Identifier: MIT
# KELMORA_SANITIZE: AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer on
# every target of the tree, compile and link alike. Undefined behaviour stops the program,
# so a test cannot pass over it. scripts/sanitize.sh builds and runs the tests this way.
if(KELMORA_SANITIZE)
    set(kelmora_sanitizers -fsanitize=address,undefined)
    add_compile_options(${kelmora_sanitizers} -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(${kelmora_sanitizers})
endif()
