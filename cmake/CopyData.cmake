# Copies the data folder SRC to DST. State files (*.ini) already present in DST are the
# user's and are left alone; every other file is refreshed from SRC.
file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*")
foreach(f IN LISTS files)
  set(dst "${DST}/${f}")
  if(f MATCHES "\\.ini$" AND EXISTS "${dst}")
    continue()
  endif()
  get_filename_component(dir "${dst}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${SRC}/${f}" "${dst}" ONLY_IF_DIFFERENT)
endforeach()
