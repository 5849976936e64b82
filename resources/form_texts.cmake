# Window text tables: resources/forms/<CLASS>.<lang>.txt, one per window class and language.
# varnolet_form_texts_rc(<output .rc> <lang> <dir>...) writes a resource script that compiles
# every table of that language in the folders into an RCDATA resource named by its class (upper
# case), and sets <output>_DEPENDS in the caller to the table files (for OBJECT_DEPENDS).
function(varnolet_form_texts_rc output lang)
  set(tables "")
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.${lang}.txt)
    list(APPEND tables ${found})
  endforeach()
  list(SORT tables)
  set(content "// Generated from the window text tables (${lang}); do not edit.\n")
  foreach(table ${tables})
    get_filename_component(file ${table} NAME)
    string(REGEX REPLACE "\\.${lang}\\.txt$" "" class ${file})
    string(TOUPPER ${class} name)
    string(APPEND content "${name} RCDATA \"${table}\"\n")
  endforeach()
  if(NOT tables)
    # windres refuses an empty script; an empty script is still a valid resource list.
    string(APPEND content "// (no tables)\n")
  endif()
  file(CONFIGURE OUTPUT ${output} CONTENT "${content}" @ONLY)
  set_source_files_properties(${output} PROPERTIES OBJECT_DEPENDS "${tables}")
  set(${output}_DEPENDS ${tables} PARENT_SCOPE)
endfunction()
