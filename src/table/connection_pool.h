// Connections of a storage engine, each used by one thread at a time: a thread borrows one for a
// call and gives it back, so that reads run side by side. Opened on demand, kept for the next.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

namespace table {

template <typename Connection>
class ConnectionPool {
  public:
    using Opener = std::function<std::unique_ptr<Connection>()>;

    explicit ConnectionPool(Opener open) : open_(std::move(open)) {}

    class Lease {
      public:
        Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
            : pool_(pool), connection_(std::move(connection)) {}
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        // A connection left in doubt by an error is closed, not given to the next caller.
        ~Lease() {
            if (connection_ && !broken_) {
                pool_.giveBack(std::move(connection_));
            }
        }
        Connection& operator*() { return *connection_; }
        Connection* operator->() { return connection_.get(); }
        void markBroken() { broken_ = true; }

      private:
        ConnectionPool& pool_;
        std::unique_ptr<Connection> connection_;
        bool broken_ = false;
    };

    Lease borrow() {
        {
            std::lock_guard lock(mutex_);
            if (!idle_.empty()) {
                std::unique_ptr<Connection> connection = std::move(idle_.back());
                idle_.pop_back();
                return Lease(*this, std::move(connection));
            }
        }
        return Lease(*this, open_());
    }

    // Runs `call` on a borrowed connection; one that threw is closed rather than reused.
    template <typename Call>
    std::invoke_result_t<Call, Connection&> withConnection(Call call) {
        Lease db = borrow();
        try {
            return call(*db);
        } catch (...) {
            db.markBroken();
            throw;
        }
    }

  private:
    void giveBack(std::unique_ptr<Connection> connection) {
        std::lock_guard lock(mutex_);
        idle_.push_back(std::move(connection));
    }

    Opener open_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Connection>> idle_;
};

} // namespace table
