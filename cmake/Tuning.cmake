# The predefined channel tables are read from the program's own directory: copy them beside ombrelay and
# beside the tuning tests whenever they change.
set(OMBRELAY_CHANNEL_TABLES
    ${CMAKE_SOURCE_DIR}/Resources/channels/PredefinedAnalogChannels.xml
    ${CMAKE_SOURCE_DIR}/Resources/channels/PredefinedCableChannels.xml
    ${CMAKE_SOURCE_DIR}/Resources/channels/PredefinedTerrestrialChannels.xml)
set(_table_copies)
foreach(_dir ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/tests/tuning)
    foreach(_table IN LISTS OMBRELAY_CHANNEL_TABLES)
        get_filename_component(_name ${_table} NAME)
        add_custom_command(OUTPUT ${_dir}/${_name}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_table} ${_dir}/${_name}
            DEPENDS ${_table} VERBATIM)
        list(APPEND _table_copies ${_dir}/${_name})
    endforeach()
endforeach()
add_custom_target(ombrelay_channel_tables ALL DEPENDS ${_table_copies})
add_dependencies(ombrelay ombrelay_channel_tables)
