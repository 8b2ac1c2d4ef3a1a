#include "office/worker_job_win32.h"

namespace valmora {

WorkerJob::WorkerJob()
    : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      finished_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      exited_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

}  // namespace valmora
