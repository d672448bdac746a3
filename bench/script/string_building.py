# Building a long text piece by piece, numbers included.
def main():
    s = ""
    for i in range(1, 5000001):
        s += "x" + str(i % 10)
    print("built" if len(s) == 10000000 else "wrong")

main()
