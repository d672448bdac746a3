-- Integer arithmetic in a while loop.
local function main()
  local s = 0
  local i = 0
  while i < 10000000 do
    s = s + i % 7 * 3 - 2
    i = i + 1
  end
  print(s)
end
main()
