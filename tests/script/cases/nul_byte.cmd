check FILE
