// A module the loader tests load by its bare name.
extern "C" __attribute__((visibility("default"))) int ZarnikTestModuleAnswer() {
  return 42;
}
