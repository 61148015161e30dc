#include "MyCode/RequestWatch.h"

namespace {
thread_local CRequestWatch* t_current = nullptr;
} // namespace

CRequestWatch::CRequestWatch(const std::atomic<bool>* stop) : m_pStop(stop), m_pOuter(t_current)
{
    t_current = this;
}

CRequestWatch::~CRequestWatch()
{
    t_current = m_pOuter;
}

CRequestWatch* CRequestWatch::Current()
{
    return t_current;
}

void CRequestWatch::Report(Outcome outcome)
{
    m_last = std::move(outcome);
}
