// Writes a realistic machine registry as a .reg file, the same bytes for the
// same arguments: the two component lists, uninstall entries with their
// usual values in varied order, product registrations in the three product
// lists, shared-DLL counts, unrelated software, and ZobrikLine's traces
// (about a thousand components, its uninstall entries, its four product
// codes, its shared DLLs) among them.
//
//   make_machine COMPONENTS utf16|cp932 SEED OUT.reg [sorted|random|reverse]
//
// The order is that of the component keys and the product lists' keys:
// sorted as the installer keeps them and regedit writes them (the default),
// shuffled (as a merged, concatenated or generated file has them) or
// reversed. The keys and values are the same in every order.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "regfile/Cp932.h"
#include "support/RandomMachine.h"

namespace {

constexpr char kCv[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr int kProductComponents = 1000;
using random_machine::kProductCodes;
using random_machine::Random;

// Text is built as UTF-8 and written in the file's encoding a section at a time.
class Output {
 public:
  Output(FILE* file, bool utf16) : file_(file), utf16_(utf16) {
    Raw(utf16 ? "\xFF\xFE" : "");
    Line(utf16 ? "Windows Registry Editor Version 5.00" : "REGEDIT4");
  }
  // A key's section: a blank line, then [path].
  void Section(std::string_view list, std::string_view name = {}) {
    Line("");
    pending_ += '[';
    pending_ += list;
    if (!name.empty()) pending_ += '\\';
    pending_ += name;
    Line("]");
  }
  void Line(std::string_view text) {
    pending_ += text;
    pending_ += "\r\n";
    if (pending_.size() > (1 << 20)) Flush();
  }
  void Flush() {
    if (!utf16_) {
      Raw(regfile::Utf16ToCp932(Utf16(pending_)));
    } else {
      const std::u16string wide = Utf16(pending_);
      Raw(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));  // little-endian host
    }
    pending_.clear();
  }

 private:
  static std::u16string Utf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      if (c < 0x80) {
        out.push_back(c);
        i += 1;
      } else if (c < 0xE0) {
        out.push_back(static_cast<char16_t>((c & 0x1F) << 6 | (utf8[i + 1] & 0x3F)));
        i += 2;
      } else {
        out.push_back(static_cast<char16_t>((c & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F)));
        i += 3;
      }
    }
    return out;
  }
  void Raw(const std::string& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
      std::perror("make_machine: write");
      std::exit(1);
    }
  }

  FILE* file_;
  bool utf16_;
  std::string pending_;
};

std::string Hex32(Random& r) {
  char out[33];
  std::snprintf(out, sizeof out, "%016llX%016llX", static_cast<unsigned long long>(r.Next()),
                static_cast<unsigned long long>(r.Next()));
  return out;
}

std::string Guid(const std::string& packed) {
  return "{" + packed.substr(0, 8) + "-" + packed.substr(8, 4) + "-" + packed.substr(12, 4) + "-" +
         packed.substr(16, 4) + "-" + packed.substr(20, 12) + "}";
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::string Dword(unsigned value) {
  char out[20];
  std::snprintf(out, sizeof out, "dword:%08x", value);
  return out;
}

// hex(2) or hex(7) data of UTF-16 text, in regedit's wrapped lines. In a
// REGEDIT4 file these hold the ANSI code page, which is ASCII here.
std::string HexText(const std::string& prefix, const std::string& ascii, bool utf16) {
  std::string out = prefix;
  size_t column = prefix.size();
  std::vector<unsigned> bytes;
  for (char c : ascii) {
    bytes.push_back(static_cast<unsigned char>(c));
    if (utf16) bytes.push_back(0);
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    char b[4];
    std::snprintf(b, sizeof b, "%02x", bytes[i]);
    out += b;
    if (i + 1 == bytes.size()) break;
    out += ",";
    column += 3;
    if (column >= 77) {
      out += "\\\r\n  ";
      column = 2;
    }
  }
  return out;
}

const char* const kVendors[] = {"Contoso", "Fabrikam", "Northwind", "Tailspin", "Litware", "Adatum", "Proseware"};
const char* const kFiles[] = {"core.dll", "ui.dll", "app.exe", "help.chm", "data.bin", "net.dll", "res.dll"};
const char* const kJapanese[] = {"表示ソフト", "画像ビューア", "文書エディタ", "会計ソフト"};

enum class Order { kSorted, kRandom, kReverse };

// Puts sorted items in the order asked for, with a generator of its own so
// that the machine's content does not depend on the order.
template <typename T>
void Arrange(std::vector<T>& items, Order order, std::uint64_t seed) {
  if (order == Order::kReverse) std::reverse(items.begin(), items.end());
  if (order != Order::kRandom) return;
  Random r(seed);
  for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[r.Below(static_cast<int>(i))]);
}

struct Product {
  std::string code;  // packed
  std::string name;
  std::string folder;
};

void Components(Output& out, const std::string& list, int count, int productShare, const std::vector<Product>& products,
                Random& r, bool utf16, Order order) {
  // The installer keeps component names sorted; regedit writes them so.
  struct Component {
    std::string name;
    std::vector<std::string> values;
    bool operator<(const Component& other) const { return name < other.name; }
  };
  std::vector<Component> keys(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    Component& c = keys[static_cast<size_t>(i)];
    c.name = Hex32(r);
    const int owner = i < productShare ? -1 : r.Below(static_cast<int>(products.size()));  // -1: ZobrikLine
    const int users = owner < 0 ? 1 : 1 + r.Below(3);
    for (int u = 0; u < users; ++u) {
      const int p = owner < 0 ? r.Below(4) : (owner + u) % static_cast<int>(products.size());
      const std::string code = owner < 0 ? kProductCodes[p] : products[p].code;
      const std::string folder = owner < 0 ? "C:\\Program Files\\ZobrikLine" : products[p].folder;
      const std::string file = folder + "\\" + kFiles[r.Below(7)];
      switch (r.Below(8)) {
        case 0:  // a registry path, as components that install keys hold
          c.values.push_back(Quoted(code) + "=" + Quoted("02:\\SOFTWARE\\" + folder.substr(17) + "\\Settings"));
          break;
        case 1:
          c.values.push_back(Quoted(code) + "=" + HexText("hex(2):", "%ProgramFiles%\\" + folder.substr(17), utf16));
          break;
        default:
          c.values.push_back(Quoted(code) + "=" + Quoted(file));
      }
    }
  }
  std::sort(keys.begin(), keys.end());
  Arrange(keys, order, r.Next());
  out.Section(list);
  for (const Component& c : keys) {
    out.Section(list, c.name);
    for (const std::string& v : c.values) out.Line(v);
  }
}

void Uninstall(Output& out, const std::vector<Product>& products, Random& r) {
  const std::string list = std::string(kCv) + "\\Uninstall";
  out.Section(list);
  for (const Product& p : products) {
    out.Section(list, Guid(p.code));
    std::vector<std::string> values = {
        "\"DisplayName\"=" + Quoted(p.name),
        "\"DisplayVersion\"=" + Quoted(std::to_string(1 + r.Below(12)) + "." + std::to_string(r.Below(10))),
        "\"Publisher\"=" + Quoted(p.folder.substr(17, p.folder.find('\\', 17) - 17)),
        "\"InstallLocation\"=" + Quoted(p.folder + "\\"),
        "\"UninstallString\"=" + Quoted("MsiExec.exe /X" + Guid(p.code)),
        "\"ModifyPath\"=" + Quoted("MsiExec.exe /I" + Guid(p.code)),
        "\"NoModify\"=" + Dword(1),
        "\"NoRepair\"=" + Dword(r.Below(2)),
        "\"EstimatedSize\"=" + Dword(static_cast<unsigned>(r.Below(500000))),
        "\"Language\"=" + Dword(r.Below(2) ? 1041 : 1033),
        "\"WindowsInstaller\"=" + Dword(1),
    };
    // Setups write these in their own orders: a DWORD often comes first.
    for (size_t i = values.size(); i > 1; --i) std::swap(values[i - 1], values[r.Below(static_cast<int>(i))]);
    for (const std::string& v : values) out.Line(v);
  }
}

void ProductLists(Output& out, const std::vector<Product>& products, Order order, std::uint64_t seed) {
  std::vector<Product> sorted = products;
  std::sort(sorted.begin(), sorted.end(), [](const Product& a, const Product& b) { return a.code < b.code; });
  Arrange(sorted, order, seed);
  const std::string classes = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products";
  const std::string system = std::string(kCv) + "\\Installer\\UserData\\S-1-5-18\\Products";
  const std::string machine = std::string(kCv) + "\\Installer\\Products";
  for (const std::string& list : {classes, machine, system}) {
    out.Section(list);
    for (const Product& p : sorted) {
      const std::string key = list + "\\" + p.code;
      out.Section(key);
      if (list == system) {
        out.Section(key, "InstallProperties");
        out.Line("\"DisplayName\"=" + Quoted(p.name));
        out.Line("\"LocalPackage\"=" + Quoted("C:\\Windows\\Installer\\" + p.code.substr(0, 6) + ".msi"));
        out.Line("\"VersionMajor\"=" + Dword(3));
        continue;
      }
      out.Line("\"ProductName\"=" + Quoted(p.name));
      out.Line("\"PackageCode\"=" + Quoted(p.code));
      out.Line("\"Language\"=" + Dword(1041));
      out.Line("\"Assignment\"=" + Dword(1));
      out.Line("\"Clients\"=hex(7):3a,00,00,00,00,00");
      out.Section(key, "SourceList");
      out.Line("\"PackageName\"=" + Quoted(p.name.substr(0, 8) + ".msi"));
    }
  }
}

void SharedDlls(Output& out, int count, Random& r) {
  out.Section(kCv, "SharedDLLs");
  for (int i = 0; i < count; ++i) {
    const bool product = i % 50 == 0;
    const std::string folder = product ? "C:\\Program Files\\Common Files\\ZobrikLine"
                                       : std::string("C:\\Program Files\\Common Files\\") + kVendors[r.Below(7)];
    out.Line(Quoted(folder + "\\" + std::to_string(i) + kFiles[r.Below(7)]) + "=" +
             Dword(1 + static_cast<unsigned>(r.Below(5))));
  }
}

void Software(Output& out, int count, Random& r) {
  for (int v = 0; v < 7; ++v) {
    for (int i = v; i < count; i += 7) {
      out.Section(std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\") + kVendors[v] + "\\App" + std::to_string(i),
                  "Settings");
      out.Line("\"Window\"=hex:" + std::to_string(10 + r.Below(90)) + ",00,00,00,20,03,00,00,58,02,00,00");
      out.Line("\"Recent\"=" + Quoted("C:\\Users\\Public\\Documents\\file" + std::to_string(r.Below(1000)) + ".txt"));
      out.Line("\"Zoom\"=" + Dword(100));
    }
  }
  out.Section("HKEY_LOCAL_MACHINE\\SOFTWARE\\ZobrikLine\\Settings");
  out.Line("\"Theme\"=\"dark\"");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string orderName = argc == 6 ? argv[5] : "sorted";
  const Order order = orderName == "random"    ? Order::kRandom
                      : orderName == "reverse" ? Order::kReverse
                                               : Order::kSorted;
  if ((argc != 5 && argc != 6) || (order == Order::kSorted && orderName != "sorted")) {
    std::fprintf(stderr, "usage: make_machine COMPONENTS utf16|cp932 SEED OUT.reg [sorted|random|reverse]\n");
    return 2;
  }
  const int components = std::atoi(argv[1]);
  const bool utf16 = std::string(argv[2]) == "utf16";
  Random r(std::strtoull(argv[3], nullptr, 10));
  FILE* file = std::fopen(argv[4], "wb");
  if (file == nullptr || components < kProductComponents) {
    std::fprintf(stderr, "make_machine: cannot write %s, or fewer than %d components\n", argv[4], kProductComponents);
    return 1;
  }
  // Other products: one for every hundred components, some with Japanese names.
  std::vector<Product> products;
  for (int i = 0; i < std::max(20, components / 100); ++i) {
    const std::string vendor = kVendors[r.Below(7)];
    const std::string name = i % 10 == 3 ? std::string(kJapanese[r.Below(4)]) + " " + std::to_string(i)
                                         : vendor + " App " + std::to_string(i);
    products.push_back({Hex32(r), name, "C:\\Program Files\\" + vendor + "\\App" + std::to_string(i)});
  }
  std::vector<Product> withProduct = products;
  for (const char* code : kProductCodes) withProduct.push_back({code, "ZobrikLine", "C:\\Program Files\\ZobrikLine"});

  Output out(file, utf16);
  ProductLists(out, withProduct, order, r.Next());
  const std::string installer = std::string(kCv) + "\\Installer";
  const int older = components / 10;
  Components(out, installer + "\\Components", older, kProductComponents / 10, products, r, utf16, order);
  Components(out, installer + "\\UserData\\S-1-5-18\\Components", components - older,
             kProductComponents - kProductComponents / 10, products, r, utf16, order);
  Uninstall(out, withProduct, r);
  SharedDlls(out, components / 20, r);
  Software(out, components / 10, r);
  out.Line("");
  out.Flush();
  return std::fclose(file) == 0 ? 0 : 1;
}
