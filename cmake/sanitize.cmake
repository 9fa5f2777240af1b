# -DQM_SANITIZE=ON builds everything with AddressSanitizer and UBSan; the
# sanitizer run uses it for the plain libraries and their unit tests.
option(QM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QM_SANITIZE)
  set(QM_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${QM_SANITIZE_FLAGS})
  add_link_options(${QM_SANITIZE_FLAGS})
endif()
