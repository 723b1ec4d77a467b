// Timings of the XML document on SystemConfig.xml-shaped files: load, save, the whole-file round
// trip the program makes at every change, the attribute lookups it makes, and hostile input.
#include "xml/ConfigFormat.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlHost.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string Guid(int i) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "{0A1B2C3D-0000-4000-8000-%012X}", static_cast<unsigned>(i));
  return buf;
}

// The document the program writes for `records` buttons: a centre button, ring segments with paths
// (some with "&" and GB2312 bytes), the two colours on the root.
TXmlDocument& MakeConfig(TXmlDocument& doc, int records) {
  doc.ResetDocument();
  TXmlNode& root = *doc.RootElement();
  ConfigFormat::StoreHotColor(root, 0xFFFF0000u);
  ConfigFormat::StoreDefaultColor(root, 0xFF0080FFu);
  for (int i = 0; i < records; ++i) {
    ConfigFormat::TButtonRecord r;
    r.Kind = i == 0 ? ConfigFormat::KindCentre : ConfigFormat::KindSegment;
    r.FilePath = (i % 3 == 0) ? "D:\\Tools & Games\\\xD3\xCE\xCF\xB7" + std::to_string(i) + ".lnk"
                              : "C:\\Program Files\\App" + std::to_string(i) + "\\app.exe";
    r.Guid = Guid(i);
    ConfigFormat::AppendButtonRecord(doc, r);
  }
  return doc;
}

std::string ConfigBytes(int records) {
  TXmlDocument doc;
  return MakeConfig(doc, records).SaveToBytes();
}

void SetBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

void BM_Load(benchmark::State& state) {
  const std::string bytes = ConfigBytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TXmlDocument doc;
    doc.LoadFromBytes(bytes);
    benchmark::DoNotOptimize(doc.RootElement());
  }
  SetBytes(state, bytes.size());
}

void BM_Save(benchmark::State& state) {
  TXmlDocument doc;
  MakeConfig(doc, static_cast<int>(state.range(0)));
  std::size_t size = 0;
  for (auto _ : state) {
    std::string out = doc.SaveToBytes();
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  SetBytes(state, size);
}

void BM_LoadSave(benchmark::State& state) {
  const std::string bytes = ConfigBytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TXmlDocument doc;
    doc.LoadFromBytes(bytes);
    std::string out = doc.SaveToBytes();
    benchmark::DoNotOptimize(out.data());
  }
  SetBytes(state, bytes.size());
}

// The floor: a mature DOM parser reading and writing the same bytes (parse into a tree, write it
// out again), next to BM_LoadSave in the same run.
void BM_FloorParseWrite(benchmark::State& state) {
  const std::string bytes = ConfigBytes(static_cast<int>(state.range(0)));
  struct TStringWriter : pugi::xml_writer {
    std::string Out;
    void write(const void* data, std::size_t size) override {
      Out.append(static_cast<const char*>(data), size);
    }
  };
  for (auto _ : state) {
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_declaration)) {
      state.SkipWithError("the floor parser refused the file");
      break;
    }
    TStringWriter writer;
    doc.save(writer, "\t", pugi::format_default, pugi::encoding_auto);
    benchmark::DoNotOptimize(writer.Out.data());
  }
  SetBytes(state, bytes.size());
}

// A folder of its own for the on-disk benchmark.
class TBenchFolder {
 public:
  TBenchFolder()
      : FPath(std::filesystem::temp_directory_path() / ("vantel_xml_bench_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(FPath);
  }
  ~TBenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  std::wstring File(const wchar_t* name) const { return FPath.wstring() + L"/" + name; }

 private:
  std::filesystem::path FPath;
};

// What every change in the program costs: a document of its own loads the whole file, one button's
// record is found by its GUID and updated, and the whole file is saved atomically.
void BM_StoreButtonRoundTripOnDisk(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TBenchFolder folder;
  const std::wstring name = folder.File(L"SystemConfig.xml");
  TXmlDocument seed;
  MakeConfig(seed, records).SaveFile(name);
  const std::string guid = Guid(records - 1);
  int n = 0;
  for (auto _ : state) {
    TXmlDocument doc;
    doc.LoadFile(name);
    TXmlNode& root = *doc.RootElement();
    const int index = ConfigFormat::FindRecord(root, guid);
    ConfigFormat::UpdateButtonRecord(*root.ChildAt(index), ConfigFormat::KindSegment,
                                     "C:\\Apps\\" + std::to_string(++n & 7) + ".exe");
    doc.SaveFile(doc.LoadedFileName());
  }
  SetBytes(state, ConfigBytes(records).size());
}

// Start-up and every pie button's creation: the two colours of the root.
void BM_ReadColors(benchmark::State& state) {
  TXmlDocument doc;
  MakeConfig(doc, static_cast<int>(state.range(0)));
  const TXmlNode& root = *doc.RootElement();
  for (auto _ : state) {
    benchmark::DoNotOptimize(ConfigFormat::ReadHotColor(root));
    benchmark::DoNotOptimize(ConfigFormat::ReadDefaultColor(root));
  }
}

// Loading the group: kind, path and GUID of every record.
void BM_InterpretRecords(benchmark::State& state) {
  TXmlDocument doc;
  MakeConfig(doc, static_cast<int>(state.range(0)));
  const TXmlNode& root = *doc.RootElement();
  for (auto _ : state) {
    ConfigFormat::TRingPlan plan = ConfigFormat::InterpretRecords(root);
    benchmark::DoNotOptimize(plan.Segments.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Storing or deleting a button: its record found by GUID (the last one: the whole list is walked).
void BM_FindRecord(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TXmlDocument doc;
  MakeConfig(doc, records);
  const TXmlNode& root = *doc.RootElement();
  const std::string guid = Guid(records - 1);
  for (auto _ : state) benchmark::DoNotOptimize(ConfigFormat::FindRecord(root, guid));
}

// Hostile files of growing size: the time per byte must stay flat (no quadratic corner).
std::string Hostile(int kind, std::size_t size) {
  std::string s;
  switch (kind) {
    case 0:  // one start tag with an unclosed quote
      s = "<r a=\"";
      s.resize(size, 'x');
      break;
    case 1:  // ever so many attributes on the root, looked up by name
      s = "<r";
      while (s.size() < size) s += " a=\"1\"";
      s += "/>";
      break;
    case 2:  // an attribute value full of "&" without ";"
      s = "<r a=\"";
      while (s.size() < size) s += "&&&&&&&&";
      s += "\"/>";
      break;
    case 3:  // 256 levels, then a long flat run of empty children
      for (int i = 0; i < 255; ++i) s += "<e>";
      while (s.size() < size) s += "<a/>";
      for (int i = 0; i < 255; ++i) s += "</e>";
      break;
    default:  // text and "<" spread over a single element's content
      s = "<r>";
      while (s.size() < size) s += "text <x>y</x>\r\n";
      s += "</r>";
      break;
  }
  return s;
}

void BM_Hostile(benchmark::State& state) {
  const std::string bytes =
      Hostile(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
  for (auto _ : state) {
    TXmlDocument doc;
    try {
      doc.LoadFromBytes(bytes);
      if (TXmlNode* root = doc.RootElement()) benchmark::DoNotOptimize(root->GetAttribute("A"));
    } catch (const EXmlError&) {
    }
  }
  SetBytes(state, bytes.size());
}

}  // namespace

BENCHMARK(BM_Load)->Arg(5)->Arg(10)->Arg(40)->Arg(1000);
BENCHMARK(BM_Save)->Arg(5)->Arg(10)->Arg(40)->Arg(1000);
BENCHMARK(BM_LoadSave)->Arg(5)->Arg(10)->Arg(40)->Arg(1000);
BENCHMARK(BM_FloorParseWrite)->Arg(10)->Arg(1000);
BENCHMARK(BM_StoreButtonRoundTripOnDisk)->Arg(5)->Arg(40)->Arg(1000);
BENCHMARK(BM_ReadColors)->Arg(5);
BENCHMARK(BM_InterpretRecords)->Arg(5)->Arg(40)->Arg(1000);
BENCHMARK(BM_FindRecord)->Arg(5)->Arg(40)->Arg(1000);
BENCHMARK(BM_Hostile)->ArgsProduct({{0, 1, 2, 3, 4}, {1 << 16, 1 << 20}});
