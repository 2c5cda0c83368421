-- wrk: each request submits the next code of CODES (one a line), each thread its own share, so
-- that every submission is a game the table has not seen. Counts the answers by status.
local codes = {}
for line in io.lines(os.getenv("CODES")) do codes[#codes + 1] = line end
local threads = {}
local counter = 0

function setup(thread)
  counter = counter + 1
  thread:set("id", counter)
  thread:set("count", tonumber(os.getenv("THREADS")))
  table.insert(threads, thread)
end

function init()
  next_code = id
  statuses = {}
end

function request()
  local code = codes[next_code]
  next_code = next_code + count
  if not code then
    code = "K1.AAAA"
  end
  return wrk.format("POST", "/api/games", {["Content-Type"] = "application/json"},
                    '{"code":"' .. code .. '","name":"BENCH"}')
end

function response(status)
  statuses[status] = (statuses[status] or 0) + 1
end

function done(summary)
  local totals = {}
  for _, thread in ipairs(threads) do
    for status, n in pairs(thread:get("statuses")) do
      totals[status] = (totals[status] or 0) + n
    end
  end
  for status, n in pairs(totals) do
    io.write(string.format("status %d %d\n", status, n))
  end
end
