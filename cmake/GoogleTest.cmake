# GoogleTest from Debian's source package (/usr/src/googletest), built by each toolchain, so
# that the same framework runs natively and as a Windows executable under Wine.
set(OV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
# GoogleTest's own sources are not ours to warn about, nor CP932.
set(saved_options "${CMAKE_CXX_FLAGS}")
add_subdirectory(${OV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(target gtest gtest_main gmock gmock_main)
  if(TARGET ${target})
    target_compile_options(${target} PRIVATE -w -fexec-charset=UTF-8)
  endif()
endforeach()
