-- Building a long text piece by piece, numbers included (table.concat: the idiomatic Lua way).
local function main()
  local parts = {}
  for i = 1, 5000000 do
    parts[#parts + 1] = "x" .. (i % 10)
  end
  local s = table.concat(parts)
  print(#s == 10000000 and "built" or "wrong")
end
main()
