-- wrk: reads of the table's pages, 50 rows each, from the top and over the first 20 pages.
local page = 0

function request()
  page = (page + 1) % 20
  return wrk.format("GET", "/api/games?limit=50&offset=" .. (page * 50))
end
