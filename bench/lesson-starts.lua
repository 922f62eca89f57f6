-- wrk: each connection is a learner starting the lesson again and again:
-- the page, its scripts and style sheet, the module (gzipped), lesson.json,
-- every lesson file but the video, and the video's first range, in that
-- order. The paths come from bench/nginx-load (one a line in STARTS).
local paths = {}
for line in io.lines(os.getenv("STARTS")) do paths[#paths + 1] = line end
local next = 0
local starts = 0

request = function()
  next = next % #paths + 1
  local path, range = paths[next]:match("^(%S+)%s*(%S*)$")
  local headers = { ["Accept-Encoding"] = "gzip" }
  if range ~= "" then headers["Range"] = range end
  return wrk.format("GET", path, headers)
end

response = function(status, headers, body)
  if status ~= 200 and status ~= 206 then error("status " .. status) end
end

done = function(summary, latency, requests)
  local n = summary.requests / #paths
  io.write(string.format("requests per start: %d\n", #paths))
  io.write(string.format("lesson starts per second: %.1f\n", n / (summary.duration / 1e6)))
  io.write(string.format("bytes per start: %d\n", summary.bytes / n))
  io.write(string.format("request latency p50 %.2f ms, p99 %.2f ms\n",
    latency:percentile(50) / 1000, latency:percentile(99) / 1000))
end
