#include <iostream>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::cerr << "merkhaus-tool: noch keine Befehle\n";
  return 1;
}
