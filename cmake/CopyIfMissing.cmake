# Copies the file NAME from the folder FROM into the folder TO when TO holds nothing of that name
# (no file, folder or link, not even a broken one). What TO holds is never replaced, rewritten or
# deleted. The copy is written under a temporary name beside its place and moved there only when
# whole and only while the name is still free, so a build that stops half-way leaves no
# half-written file under the name.
#   cmake -DFROM=<folder> -DTO=<folder> -DNAME=<file name> -P CopyIfMissing.cmake
cmake_minimum_required(VERSION 3.25)
set(target "${TO}/${NAME}")
if(EXISTS "${target}" OR IS_SYMLINK "${target}")
    return()
endif()
set(part "${TO}/.${NAME}.copying")
file(REMOVE "${part}")
file(COPY_FILE "${FROM}/${NAME}" "${part}")
file(RENAME "${part}" "${target}" NO_REPLACE RESULT moved)
# CMake moves without replacing by linking the new name, and may leave the old one.
file(REMOVE "${part}")
if(moved STREQUAL "0")
    message(STATUS "Put ${NAME} into the program folder ${TO}")
elseif(NOT moved STREQUAL "NO_REPLACE")
    message(FATAL_ERROR "cannot put ${NAME} into ${TO}: ${moved}")
endif()
# NO_REPLACE: something took the name meanwhile, and it stays as it is.
