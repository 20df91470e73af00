#include "physics/step_scheduler.h"

#include "physics/ode_runtime.h"

struct TStepScheduler::TJob {
  ddependencychange_t Count = 0;  // dependencies still to finish, plus one while the job runs
  bool Started = false;
  int Fault = 0;  // the job's own result and those of the jobs it waited for
  int* Summary = nullptr;
  TJob* Dependent = nullptr;
  TWait* Waiter = nullptr;
  dThreadedCallFunction* Function = nullptr;
  void* Context = nullptr;
  dcallindex_t Index = 0;
};

struct TStepScheduler::TWait {
  bool Done = false;
};

namespace {

TStepScheduler& Of(dThreadingImplementationID impl) {
  return *reinterpret_cast<TStepScheduler*>(impl);
}

// One thread: the engine's mutexes guard nothing here.
dMutexGroupID AllocMutexGroup(dThreadingImplementationID impl, dmutexindex_t, const char* const*) {
  return reinterpret_cast<dMutexGroupID>(impl);
}
void FreeMutexGroup(dThreadingImplementationID, dMutexGroupID) {}
void LockMutex(dThreadingImplementationID, dMutexGroupID, dmutexindex_t) {}
void UnlockMutex(dThreadingImplementationID, dMutexGroupID, dmutexindex_t) {}
// No thread serves the scheduler but the caller's, as with the engine's own self-threaded one.
unsigned ThreadCount(dThreadingImplementationID) {
  return 0;
}
int Preallocate(dThreadingImplementationID, ddependencycount_t) {
  return 1;
}

}  // namespace

TStepScheduler::TStepScheduler() {
  functions_.struct_size = sizeof(functions_);
  functions_.alloc_mutex_group = AllocMutexGroup;
  functions_.free_mutex_group = FreeMutexGroup;
  functions_.lock_group_mutex = LockMutex;
  functions_.unlock_group_mutex = UnlockMutex;
  functions_.alloc_call_wait = AllocWait;
  functions_.reset_call_wait = ResetWait;
  functions_.free_call_wait = FreeWait;
  functions_.post_call = Post;
  functions_.alter_call_dependencies_count = AlterCount;
  functions_.wait_call = Wait;
  functions_.retrieve_thread_count = ThreadCount;
  functions_.preallocate_resources_for_calls = Preallocate;
}

TStepScheduler::~TStepScheduler() = default;

void TStepScheduler::Attach(dWorldID mundo) {
  dWorldSetStepThreadingImplementation(mundo, &functions_,
                                       reinterpret_cast<dThreadingImplementationID>(this));
}

void TStepScheduler::Recover() {
  ready_.clear();
  freeJobs_.clear();
  for (auto& job : jobs_) {
    *job = TJob{};
    freeJobs_.push_back(job.get());
  }
  for (auto& wait : waits_) wait->Done = false;
}

TStepScheduler::TJob* TStepScheduler::NewJob() {
  if (freeJobs_.empty()) {
    jobs_.push_back(std::make_unique<TJob>());
    return jobs_.back().get();
  }
  TJob* job = freeJobs_.back();
  freeJobs_.pop_back();
  *job = TJob{};
  return job;
}

void TStepScheduler::Release(TJob* job) {
  if (--job->Count != 0) return;
  if (job->Started)
    Finish(job);
  else
    ready_.push_back(job);
}

void TStepScheduler::Finish(TJob* job) {
  if (job->Summary) *job->Summary = job->Fault;
  if (job->Waiter) job->Waiter->Done = true;
  TJob* dependent = job->Dependent;
  if (dependent) dependent->Fault |= job->Fault;
  freeJobs_.push_back(job);
  if (dependent) Release(dependent);
}

void TStepScheduler::Post(dThreadingImplementationID impl, int* summary, dCallReleaseeID* releasee,
                          ddependencycount_t count, dCallReleaseeID dependent, dCallWaitID wait,
                          dThreadedCallFunction* func, void* context, dcallindex_t index, const char*) {
  TStepScheduler& self = Of(impl);
  TJob* job = self.NewJob();
  job->Count = static_cast<ddependencychange_t>(count);
  job->Summary = summary;
  job->Dependent = reinterpret_cast<TJob*>(dependent);
  job->Waiter = reinterpret_cast<TWait*>(wait);
  job->Function = func;
  job->Context = context;
  job->Index = index;
  if (summary) *summary = 0;
  if (releasee) *releasee = reinterpret_cast<dCallReleaseeID>(job);
  if (count == 0) self.ready_.push_back(job);
}

void TStepScheduler::AlterCount(dThreadingImplementationID impl, dCallReleaseeID target,
                                ddependencychange_t change) {
  TStepScheduler& self = Of(impl);
  TJob* job = reinterpret_cast<TJob*>(target);
  job->Count += change;
  if (job->Count != 0) return;
  ++job->Count;
  self.Release(job);
}

void TStepScheduler::Wait(dThreadingImplementationID impl, int* status, dCallWaitID wait,
                          const dThreadedWaitTime*, const char*) {
  TStepScheduler& self = Of(impl);
  TWait* waiter = reinterpret_cast<TWait*>(wait);
  while (!waiter->Done && !self.ready_.empty()) {
    TJob* job = self.ready_.front();
    self.ready_.pop_front();
    job->Started = true;
    job->Count = 1;  // held while it runs: jobs it posts for itself must not finish it early
    // A job says it succeeded by returning non-zero.
    job->Fault |= job->Function(job->Context, job->Index, reinterpret_cast<dCallReleaseeID>(job)) == 0;
    self.Release(job);
  }
  if (!waiter->Done)
    throw EPhysicsEngineError("motor de física: a etapa esperou por um trabalho que nunca começou");
  if (status) *status = 1;
}

dCallWaitID TStepScheduler::AllocWait(dThreadingImplementationID impl) {
  TStepScheduler& self = Of(impl);
  if (self.freeWaits_.empty()) {
    self.waits_.push_back(std::make_unique<TWait>());
    return reinterpret_cast<dCallWaitID>(self.waits_.back().get());
  }
  TWait* wait = self.freeWaits_.back();
  self.freeWaits_.pop_back();
  wait->Done = false;
  return reinterpret_cast<dCallWaitID>(wait);
}

void TStepScheduler::ResetWait(dThreadingImplementationID, dCallWaitID wait) {
  reinterpret_cast<TWait*>(wait)->Done = false;
}

void TStepScheduler::FreeWait(dThreadingImplementationID impl, dCallWaitID wait) {
  Of(impl).freeWaits_.push_back(reinterpret_cast<TWait*>(wait));
}
