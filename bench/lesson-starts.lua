-- wrk: each thread is a learner on one connection (bench/nginx-load runs as
-- many threads as connections) starting the lesson again and again: the
-- page, its scripts and style sheet, the module (gzipped), lesson.json,
-- every lesson file but the video, and the video's first range, in that
-- order, one request after the other as a browser's first requests go. The
-- paths come from bench/nginx-load (one a line in STARTS). A start is timed
-- from its first request to its last response on the monotonic clock
-- (LuaJIT's FFI: wrk's Lua has no clock of its own).
local ffi = require("ffi")
ffi.cdef [[
typedef struct { long tv_sec; long tv_nsec; } lesson_starts_time;
int clock_gettime(int clock, lesson_starts_time *time);
]]
local clock = ffi.new("lesson_starts_time")
local function microseconds()
  ffi.C.clock_gettime(1, clock) -- CLOCK_MONOTONIC
  return tonumber(clock.tv_sec) * 1e6 + tonumber(clock.tv_nsec) / 1e3
end

local paths = {}
for line in io.lines(os.getenv("STARTS")) do paths[#paths + 1] = line end
local next = 0
local began = 0
starts = {} -- this learner's start times, read by done()

request = function()
  next = next % #paths + 1
  if next == 1 then began = microseconds() end
  local path, range = paths[next]:match("^(%S+)%s*(%S*)$")
  local headers = { ["Accept-Encoding"] = "gzip" }
  if range ~= "" then headers["Range"] = range end
  return wrk.format("GET", path, headers)
end

response = function(status, headers, body)
  if status ~= 200 and status ~= 206 then error("status " .. status) end
  if next == #paths then starts[#starts + 1] = microseconds() - began end
end

local learners = {}
setup = function(thread) learners[#learners + 1] = thread end

done = function(summary, latency, requests)
  local all = {}
  for _, learner in ipairs(learners) do
    for _, time in ipairs(learner:get("starts")) do all[#all + 1] = time end
  end
  table.sort(all)
  local function percentile(p)
    return all[math.max(1, math.ceil(#all * p / 100))] / 1000
  end
  io.write(string.format("requests per start: %d\n", #paths))
  io.write(string.format("lesson starts per second: %.1f\n", #all / (summary.duration / 1e6)))
  io.write(string.format("bytes per start: %d\n", summary.bytes / (summary.requests / #paths)))
  io.write(string.format("time of a start: p50 %.2f ms, p99 %.2f ms\n",
    percentile(50), percentile(99)))
  io.write(string.format("request latency p50 %.2f ms, p99 %.2f ms\n",
    latency:percentile(50) / 1000, latency:percentile(99) / 1000))
end
