# The common set-up of the stand-alone tool projects under tools/ (built on their own, not
# part of the game's build): C++20, a Release build unless another is asked for, and the
# warnings the game is built with.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release)
endif()
add_compile_options(-Wall -Wextra -Wpedantic)
