# The mid/side processing kernels: one translation unit per instruction set, each selecting its
# instructions with target attributes, so the library runs on any processor of its architecture
# and picks the widest kernels at run time.
target_sources(brisolen_midside PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MidSideKernels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidSideKernelsSse2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidSideKernelsAvx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidSideKernelsAvx512.cpp)

if(WIN32)
    # Windows keeps the stack 16-byte aligned only, and the compiler cannot realign it for 32- and
    # 64-byte registers there; any spill of such a register must therefore use unaligned moves.
    set_source_files_properties(
        ${CMAKE_CURRENT_LIST_DIR}/MidSideKernelsAvx.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MidSideKernelsAvx512.cpp
        PROPERTIES COMPILE_OPTIONS "-Wa,-muse-unaligned-vector-move")
endif()
