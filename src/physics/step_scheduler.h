#pragma once
// The engine's step hands its work to a job scheduler. Its built-in one keeps each running job's record
// only on the stack, so an engine error (which leaves the step by exception) loses that record for good.
// This one runs the jobs on the calling thread, as the built-in one does, but owns every record it hands
// out: after an error it takes them all back, and a world that fails again and again stays the same size.

#include <ode/ode.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

class TStepScheduler {
 public:
  TStepScheduler();
  ~TStepScheduler();
  TStepScheduler(const TStepScheduler&) = delete;
  TStepScheduler& operator=(const TStepScheduler&) = delete;

  // Makes the world's steps run through this scheduler; it must outlive them.
  void Attach(dWorldID mundo);

  // After a step left by exception: every job is dropped and its record kept for the next step.
  void Recover();

  // Records made so far, in use or free: what the scheduler holds in memory.
  std::size_t RecordCount() const { return jobs_.size() + waits_.size(); }

  struct TJob;
  struct TWait;

 private:
  static void Post(dThreadingImplementationID impl, int* summary, dCallReleaseeID* releasee,
                   ddependencycount_t count, dCallReleaseeID dependent, dCallWaitID wait,
                   dThreadedCallFunction* func, void* context, dcallindex_t index, const char* name);
  static void AlterCount(dThreadingImplementationID impl, dCallReleaseeID target, ddependencychange_t change);
  static void Wait(dThreadingImplementationID impl, int* status, dCallWaitID wait,
                   const dThreadedWaitTime* timeout, const char* name);
  static dCallWaitID AllocWait(dThreadingImplementationID impl);
  static void ResetWait(dThreadingImplementationID impl, dCallWaitID wait);
  static void FreeWait(dThreadingImplementationID impl, dCallWaitID wait);

  TJob* NewJob();
  void Release(TJob* job);
  void Finish(TJob* job);

  dThreadingFunctionsInfo functions_{};
  std::vector<std::unique_ptr<TJob>> jobs_;
  std::vector<TJob*> freeJobs_;
  std::vector<std::unique_ptr<TWait>> waits_;
  std::vector<TWait*> freeWaits_;
  std::deque<TJob*> ready_;
};
