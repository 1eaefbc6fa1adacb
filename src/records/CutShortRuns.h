#pragma once

#include <filesystem>

namespace kqvdr {

class AuditSink;
class MethodStore;
class Operator;

// At a start: what a power cut or a forced restart cut short, told to the person and recorded
// in the audit trail. A system test's saved operator's methods are offered back; declined (or
// not readable), they stay guarded so that no later test writes over them. An automation is
// named with its timetable and the last event it carried out.
void reportRunsCutShort(const std::filesystem::path& dataDir, Operator& person, AuditSink* audit,
                        MethodStore& methods);

} // namespace kqvdr
