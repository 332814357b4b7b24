// Placeholder until the real implementation lands.
#include "macros/downloads.h"

namespace mt {
uint64_t download_size_kb(Build&, const std::string&) { return 0; }
void write_download_current(Build&, LangBuild&, Sink&) {}
void write_download_all(Build&, LangBuild&, Sink&) {}
void write_download_language_pack(Build&, LangBuild&, Sink&) {}
void write_download_sdk(Build&, LangBuild&, Sink&) {}
void write_download_offline_help(Build&, LangBuild&, Sink&) {}
void write_download_cli(Build&, LangBuild&, Sink&) {}
}  // namespace mt
