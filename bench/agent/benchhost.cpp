#include "bench/agent/benchhost.h"

#include "core/wire.h"

namespace quorvel::bench {

QByteArray BenchHost::GetPlayStatus() { return QByteArray(wire::Standby); }

void BenchHost::postAgentCmd(int) { ++m_posted; }

} // namespace quorvel::bench
