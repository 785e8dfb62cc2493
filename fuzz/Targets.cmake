# The fuzz targets and the libraries each one exercises; the libFuzzer build
# (fuzz/CMakeLists.txt) and the seeded test driver (tests/fuzz) both read this.
set(NOLLEX_FUZZ_TARGETS fuzz_ini fuzz_project fuzz_text fuzz_cmdline fuzz_batchline fuzz_switches
    fuzz_explain fuzz_mi fuzz_replay fuzz_lsp)
set(NOLLEX_FUZZ_LIBS_fuzz_ini nollex_ini)
set(NOLLEX_FUZZ_LIBS_fuzz_project nollex_projectfile)
set(NOLLEX_FUZZ_LIBS_fuzz_text nollex_text)
set(NOLLEX_FUZZ_LIBS_fuzz_cmdline nollex_wincmd)
set(NOLLEX_FUZZ_LIBS_fuzz_batchline nollex_cmdcore)
set(NOLLEX_FUZZ_LIBS_fuzz_switches nollex_bcccore)
set(NOLLEX_FUZZ_LIBS_fuzz_explain nollex_explain)
set(NOLLEX_FUZZ_LIBS_fuzz_mi nollex_debug)
set(NOLLEX_FUZZ_LIBS_fuzz_replay nollex_explain)
set(NOLLEX_FUZZ_LIBS_fuzz_lsp nollex_lsp)
