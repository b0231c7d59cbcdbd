# Warnings are errors in our own targets; third-party code is never compiled with these.
function(brisolen_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
