// The entry point of the level checks: linking a module whole against only the modules it uses
// is the check; the program is never run.
int main() {
  return 0;
}
