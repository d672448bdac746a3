run FILE
