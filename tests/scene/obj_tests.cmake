# The model loader's tests: OBJ/MTL reading, model files on disk, and mesh preparation for collision.
vireta_add_test(vireta_obj_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_obj_loader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_model_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_mesh_prep.cpp
  LIBS vireta_scene
)
