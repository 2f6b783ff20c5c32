# vp_warnings(target): our own code compiles clean under -Wall -Wextra.
function(vp_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
