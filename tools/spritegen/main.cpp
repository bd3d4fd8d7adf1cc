// spritegen: turns the readable picture sources of art/ into PNG files.
//
//   spritegen [--out DIR] [--stamp FILE] [--list] SOURCE.art...
//   spritegen --sheet OUT.png [--cols N] [--zoom N] [--points] PICTURE.png|/ ...
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "Error.h"
#include "PngIo.h"
#include "Script.h"
#include "Sheet.h"

namespace {

namespace fs = std::filesystem;
using namespace spritegen;

int usage() {
  std::cerr << "usage: spritegen [--out DIR] [--stamp FILE] [--list] SOURCE.art...\n"
               "       spritegen --sheet OUT.png [--cols N] [--zoom N] [--points] PICTURE.png|/ ...\n";
  return 2;
}

int makeSheetCommand(const std::string& out, const std::vector<std::string>& files, int cols, int zoom,
                     bool points) {
  std::vector<std::pair<std::string, Canvas>> pictures;
  for (const auto& f : files) {
    if (f == "/") {  // "/" between the files starts a new row
      pictures.emplace_back("", Canvas());
      continue;
    }
    std::string label = fs::path(f).filename().string();
    if (label.size() > 4 && label.substr(label.size() - 4) == ".png") label.resize(label.size() - 4);
    pictures.emplace_back(label, loadPng(f));
  }
  savePng(makeSheet(pictures, cols, zoom, points), out);
  std::cout << "spritegen: sheet of " << pictures.size() << " pictures written to " << out << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string outDir = ".", stamp, sheet;
  bool list = false, points = false;
  int cols = 8, zoom = 1;
  std::vector<std::string> inputs;
  try {
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      auto value = [&]() -> std::string {
        if (i + 1 >= args.size()) throw std::runtime_error(a + " needs a value");
        return args[++i];
      };
      if (a == "--out") outDir = value();
      else if (a == "--stamp") stamp = value();
      else if (a == "--list") list = true;
      else if (a == "--sheet") sheet = value();
      else if (a == "--cols") cols = std::stoi(value());
      else if (a == "--zoom") zoom = std::stoi(value());
      else if (a == "--points") points = true;
      else if (a.starts_with("--")) return usage();
      else inputs.push_back(a);
    }
    if (inputs.empty()) return usage();
    if (!sheet.empty()) return makeSheetCommand(sheet, inputs, cols, std::max(1, zoom), points);

    if (!list) fs::create_directories(outDir);
    std::map<std::string, std::string> producedBy;
    int count = 0;
    for (const auto& input : inputs) {
      Script script(input);
      script.run([&](const Picture& pic) {
        auto [it, fresh] = producedBy.emplace(pic.name, input);
        if (!fresh) throw SourceError(input + ": " + pic.name + " is already produced by " + it->second);
        if (list) {
          std::cout << pic.name << "\n";
          return;
        }
        savePng(pic.scale > 1 ? pic.canvas.scaled(pic.scale) : pic.canvas, (fs::path(outDir) / pic.name).string());
        ++count;
      });
    }
    if (!list) {
      std::cout << "spritegen: " << count << " pictures written to " << outDir << "\n";
      if (!stamp.empty()) std::ofstream(stamp) << count << "\n";
    }
  } catch (const std::exception& e) {
    std::cerr << "spritegen: error: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
