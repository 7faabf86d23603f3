#pragma once
// Where this build's tree, programs and the shared corpus are. Kept out of the compile flags, in
// one generated file, so that every other test file compiles the same in any clone of the
// project and the compiler cache serves it.
namespace tavlo::testing {

const char* CorpusDir();     // the shared real-world corpus, beside the project
const char* SourceDir();     // the project's src/
const char* CliPath();       // the tavlo-cli this build made
const char* TestPlatform();  // the headless platform and its screens

}  // namespace tavlo::testing
