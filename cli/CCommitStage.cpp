#include "CCommitStage.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "support/CAtomicFileWriter.h"

CCommitStage::CCommitStage(std::size_t maxWaiting) : m_maxWaiting(std::max<std::size_t>(1, maxWaiting))
{
    try {
        m_thread = std::thread(&CCommitStage::Loop, this);
    } catch (const std::system_error&) {
        // Out of threads: Add commits at once.
    }
}

CCommitStage::~CCommitStage()
{
    Finish();
}

void CCommitStage::Add(std::unique_ptr<CAtomicFileWriter> writer, Done done)
{
    if (m_thread.joinable()) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_items.size() < m_maxWaiting; });
        SItem item{std::move(writer), std::move(done)};
        try {
            m_items.push_back(std::move(item));
            m_changed.notify_all();
            return;
        } catch (const std::bad_alloc&) {
            // No room for the entry (the item is left as it was): commit here.
            writer = std::move(item.writer);
            done = std::move(item.done);
        }
    }
    const bool committed = writer->Commit();
    writer.reset();
    done(committed);
}

void CCommitStage::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finishing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CCommitStage::Loop()
{
    for (;;) {
        SItem item;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_items.empty() || m_finishing; });
            if (m_items.empty())
                return;
            item = std::move(m_items.front());
            m_items.pop_front();
        }
        m_changed.notify_all();
        const bool committed = item.writer->Commit();
        item.writer.reset();
        item.done(committed);
    }
}
